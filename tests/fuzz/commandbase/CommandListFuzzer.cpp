// A command's stored dictionary comes from a document on disk. The first
// byte picks a command kind (every kind the factory knows, and a command that
// holds one setting of every kind); the rest is read as a property list (XML)
// and filled into the command. Whatever it holds must load without a fault,
// and what the command then writes must read back to the same list.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

namespace {

using namespace orrelin;

class EveryKindCommand : public VKDrawingCommand {
 public:
  std::string type() const override { return "Plot"; }
  bool canBeCropped() const override { return true; }
  void finishConnections() override {
    connect(std::make_shared<VKMenuInputController>(std::vector<VKMenuEntry>{{1, "Line"}, {2, "Smooth"}}, 1),
            "Connections");
    connect(std::make_shared<VKNumberInputController>("1"), "Point Size");
    connect(std::make_shared<VKTextInputController>(), "Title");
    connect(std::make_shared<VKTokenTextController>(), "Legend");
    connect(std::make_shared<VKColumnSelector>(true, false), "X");
    connect(std::make_shared<VKColorInputController>(), "Error Color");
    connect(std::make_shared<VKLineStyleInputController>(), "Line Style");
    connect(std::make_shared<VKFillStyleInputController>(), "Fill");
    connect(std::make_shared<VKFontStyleInputController>(), "Label Font");
    connect(std::make_shared<VKMaskInputController>(), "Mask");
    connect(std::make_shared<VKRangeInputController>(), "Crop");
    connect(std::make_shared<VKPointInputController>(), "Offset");
    connect(std::make_shared<VKNumberFormatController>(), "Label Formatter");
    VKDrawingCommand::finishConnections();
  }
};

std::shared_ptr<DataDrawingCommand> make(std::uint8_t choice) {
  auto kinds = VKCommandFactory::shared().kinds();
  if (choice % (kinds.size() + 1) == kinds.size()) {
    auto command = std::make_shared<EveryKindCommand>();
    command->finishConnections();
    return command;
  }
  return VKCommandFactory::shared().createCommand(kinds[choice % (kinds.size() + 1)]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::silenceSharedMessageCenter();
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (rest.starts_with("bplist")) return 0;  // the binary reader has a fuzzer of its own
  auto list = parsePropertyList(rest);
  if (!list) return 0;
  auto command = make(data[0]);
  command->fillFromPropertyList(*list);
  PropertyList written = command->propertyList();
  auto again = make(data[0]);
  again->fillFromPropertyList(written);
  if (!fuzz::holdsNaN(written) && !(again->propertyList() == written)) std::abort();
  KRMessageCenter::sharedCenter()->removeAllMessages();
  return 0;
}
