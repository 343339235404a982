#include "graph/commandbase/VKCollapserCommand.h"

#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/InputControllers.h"

namespace orrelin {

void VKCollapserCommandOpen::finishConnections() {
  if (!name_) {
    name_ = std::make_shared<VKTextInputController>();
    connect(name_, commandtext::kCollapserName);
  }
  VKDrawingCommand::finishConnections();
}

std::string VKCollapserCommandOpen::nameOfCollapser() const { return name_ ? name_->text() : std::string(); }

void VKCollapserCommandOpen::setNameOfCollapser(const std::string& name) {
  if (name_) name_->setText(name);
}

}  // namespace orrelin
