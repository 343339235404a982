#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/MessageCapture.h"
#include "graph/dependency/DependencyDocument.h"
#include "graph/dependency/VKDependencyBase.h"

using namespace orrelin;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A node that writes its name into the graph's log the first time a change
// notice reaches it, and counts every arrival.
class Node : public VKDependencyBase {
 public:
  Node(std::string name, std::vector<std::string>& log) : name(std::move(name)), log_(log) {}

  using VKDependencyBase::entryChanged;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override {
    ++arrivals;
    if (!alreadySentFor.contains(this)) {
      log_.push_back(name);
      if (onChange) onChange();
    }
    VKDependencyBase::entryChanged(sender, alreadySentFor);
  }
  DependencyList suppliersPending() const override { return pending; }

  std::string name;
  int arrivals = 0;
  DependencyList pending;
  std::function<void()> onChange;

 private:
  std::vector<std::string>& log_;
};

class Graph : public ::testing::Test {
 protected:
  void TearDown() override {
    // Detach everything so that only the diagnostics a test expects appear.
    for (auto& [name, node] : nodes) {
      node->pending.clear();
      node->setDocument(nullptr);
    }
    nodes.clear();
    EXPECT_THAT(messages.takeShortTexts(), IsEmpty());
  }

  std::shared_ptr<Node> node(const std::string& name) {
    auto& entry = nodes[name];
    if (!entry) entry = std::make_shared<Node>(name, log);
    return entry;
  }
  // reader reads supplier: a change of supplier reaches reader.
  void reads(const std::string& reader, const std::string& supplier) {
    node(reader)->connectAsSupplier(node(supplier));
  }
  static std::vector<std::string> names(const DependencyList& list) {
    std::vector<std::string> result;
    for (const auto& entity : list) result.push_back(static_cast<Node&>(*entity).name);
    return result;
  }

  MessageCapture messages;
  std::vector<std::string> log;
  std::map<std::string, std::shared_ptr<Node>> nodes;
};

TEST_F(Graph, ListsKeepInsertionOrderAndBothSidesOfAConnection) {
  reads("x", "c");
  reads("x", "a");
  reads("x", "b");
  reads("y", "a");
  EXPECT_THAT(names(node("x")->suppliers()), ElementsAre("c", "a", "b"));
  EXPECT_THAT(names(node("a")->clients()), ElementsAre("x", "y"));
  EXPECT_TRUE(node("a")->hasClient(node("y").get()));
  EXPECT_FALSE(node("a")->hasSuppliers());

  node("x")->disconnectAsSupplier(node("a"));
  EXPECT_THAT(names(node("x")->suppliers()), ElementsAre("c", "b"));
  EXPECT_THAT(names(node("a")->clients()), ElementsAre("y"));
  // Re-adding goes to the end.
  reads("x", "a");
  EXPECT_THAT(names(node("x")->suppliers()), ElementsAre("c", "b", "a"));
}

struct WrongCall {
  const char* description;
  std::function<void(VKDependencyBase& middle, const std::shared_ptr<VKDependencyBase>& stranger,
                     const std::shared_ptr<VKDependencyBase>& supplier,
                     const std::shared_ptr<VKDependencyBase>& client)>
      call;
  const char* expected;
};

void PrintTo(const WrongCall& wrong, std::ostream* os) { *os << wrong.description; }

class WrongLinkCall : public Graph, public ::testing::WithParamInterface<WrongCall> {};

TEST_P(WrongLinkCall, PostsItsDiagnosticAndChangesNothing) {
  reads("middle", "supplier");
  reads("client", "middle");
  GetParam().call(*node("middle"), node("stranger"), node("supplier"), node("client"));
  auto posted = messages.take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].shortText, GetParam().expected);
  EXPECT_THAT(posted[0].longText, HasSubstr("Node"));
  EXPECT_THAT(names(node("middle")->suppliers()), ElementsAre("supplier"));
  EXPECT_THAT(names(node("middle")->clients()), ElementsAre("client"));
  EXPECT_THAT(names(node("supplier")->clients()), ElementsAre("middle"));
  EXPECT_THAT(names(node("client")->suppliers()), ElementsAre("middle"));
}

INSTANTIATE_TEST_SUITE_P(
    Dependency, WrongLinkCall,
    ::testing::Values(
        WrongCall{"SupplierTwice", [](auto& m, auto&, auto& s, auto&) { m.addSupplier(s); },
                  VKDependencyBase::kSupplierAddedTwice},
        WrongCall{"ClientTwice", [](auto& m, auto&, auto&, auto& c) { m.addClient(c); },
                  VKDependencyBase::kClientAddedTwice},
        WrongCall{"AbsentSupplier", [](auto& m, auto& x, auto&, auto&) { m.removeSupplier(x.get()); },
                  VKDependencyBase::kSupplierNotPresent},
        WrongCall{"AbsentClient", [](auto& m, auto& x, auto&, auto&) { m.removeClient(x.get()); },
                  VKDependencyBase::kClientNotPresent},
        // The client is not a supplier: removing it from the wrong list.
        WrongCall{"ClientAsSupplier", [](auto& m, auto&, auto&, auto& c) { m.removeSupplier(c.get()); },
                  VKDependencyBase::kSupplierNotPresent},
        WrongCall{"EmptySupplier", [](auto& m, auto&, auto&, auto&) { m.addSupplier(nullptr); },
                  VKDependencyBase::kEmptySupplier},
        WrongCall{"EmptyClient", [](auto& m, auto&, auto&, auto&) { m.addClient(nullptr); },
                  VKDependencyBase::kEmptyClient},
        WrongCall{"ConnectEmpty", [](auto& m, auto&, auto&, auto&) { m.connectAsSupplier(nullptr); },
                  VKDependencyBase::kEmptySupplier}),
    [](const auto& info) { return std::string(info.param.description); });

TEST_F(Graph, AnObjectWithoutAnOwnerCannotBeConnected) {
  std::vector<std::string> unusedLog;
  Node onTheStack("stack", unusedLog);
  onTheStack.connectAsSupplier(node("a"));
  EXPECT_THAT(messages.takeShortTexts(), ElementsAre(VKDependencyBase::kNotShared));
  EXPECT_FALSE(onTheStack.hasSuppliers());
  EXPECT_FALSE(node("a")->hasClients());
}

TEST_F(Graph, ANoticeReachesEveryNodeOnceThroughADiamond) {
  reads("b", "a");
  reads("c", "a");
  reads("d", "b");
  reads("d", "c");
  reads("e", "d");
  node("a")->thisControllerChanged();
  // Depth first in client order; d and e are reached through b only.
  EXPECT_THAT(log, ElementsAre("b", "d", "e", "c"));
  EXPECT_EQ(node("d")->arrivals, 2);
  EXPECT_EQ(node("e")->arrivals, 1);
  EXPECT_EQ(node("a")->arrivals, 0);
}

TEST_F(Graph, ANoticeTravellingThroughACycleReachesEachNodeOnceAndEnds) {
  reads("b", "a");
  reads("c", "b");
  reads("a", "c");
  reads("d", "b");
  node("a")->thisControllerChanged();
  // The notice comes back to a itself once, then stops at b.
  EXPECT_THAT(log, ElementsAre("b", "c", "a", "d"));
  EXPECT_EQ(node("b")->arrivals, 2);
  EXPECT_EQ(node("a")->arrivals, 1);

  // A caller's set carries over: nodes it already holds are not reached again.
  log.clear();
  DependencyVisitSet alreadySent{node("c").get()};
  node("a")->thisControllerChanged(alreadySent);
  EXPECT_THAT(log, ElementsAre("b", "d"));
}

TEST_F(Graph, AListOfChangesReachesEachNodeOnceInOnePass) {
  reads("b", "a");
  reads("b", "c");
  reads("d", "c");
  reads("e", "b");
  node("lonely");
  VKDependencyBase::listOfControllersChanged({node("a"), node("c"), node("b"), node("lonely"), nullptr});
  EXPECT_THAT(log, ElementsAre("b", "e", "d"));
  EXPECT_EQ(node("e")->arrivals, 1);
}

TEST_F(Graph, AClientMayDisconnectWhileItIsBeingNotified) {
  reads("b", "a");
  reads("c", "a");
  reads("d", "b");
  node("b")->onChange = [this] {
    node("b")->disconnectAsSupplier(node("a"));
    node("x")->connectAsSupplier(node("a"));
  };
  node("a")->thisControllerChanged();
  // The clients of the moment of the change are told; the list changed for
  // the next one.
  EXPECT_THAT(log, ElementsAre("b", "d", "c"));
  EXPECT_THAT(names(node("a")->clients()), ElementsAre("c", "x"));
}

struct CycleCase {
  const char* description;
  std::vector<std::pair<const char*, const char*>> readerAndSupplier;
  std::vector<std::pair<const char*, const char*>> pendingOfAndOn;
  const char* owner;
  const char* candidate;
  bool allowed;
};

void PrintTo(const CycleCase& cycle, std::ostream* os) { *os << cycle.description; }

class CycleCheck : public Graph, public ::testing::WithParamInterface<CycleCase> {};

TEST_P(CycleCheck, RefusesExactlyTheSuppliersThatCloseACycle) {
  for (auto [reader, supplier] : GetParam().readerAndSupplier) reads(reader, supplier);
  for (auto [of, on] : GetParam().pendingOfAndOn) node(of)->pending.push_back(node(on));
  auto owner = node(GetParam().owner);
  auto candidate = GetParam().candidate ? std::shared_ptr<VKDependencyBase>(node(GetParam().candidate)) : nullptr;
  auto suppliersBefore = names(owner->suppliers());
  EXPECT_EQ(owner->canAddSupplier(candidate), GetParam().allowed);
  // Asking changes nothing.
  EXPECT_EQ(names(owner->suppliers()), suppliersBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Dependency, CycleCheck,
    ::testing::Values(
        // a would read b, but b already reads a.
        CycleCase{"Direct", {{"b", "a"}}, {}, "a", "b", false},
        CycleCase{"Transitive", {{"b", "a"}, {"c", "b"}, {"d", "c"}}, {}, "a", "d", false},
        CycleCase{"PendingSupplier", {}, {{"b", "a"}}, "a", "b", false},
        CycleCase{"ThroughAPendingSupplier", {{"p", "a"}}, {{"b", "p"}}, "a", "b", false},
        CycleCase{"PendingAfterAConnection", {{"p", "a"}, {"b", "q"}}, {{"q", "p"}}, "a", "b", false},
        CycleCase{"Itself", {}, {}, "a", "a", false},
        CycleCase{"Nothing", {}, {}, "a", nullptr, false},
        CycleCase{"SiblingsOfADiamond", {{"b", "a"}, {"c", "a"}}, {}, "c", "b", true},
        CycleCase{"AlreadyASupplier", {{"b", "a"}}, {}, "b", "a", true},
        CycleCase{"UpstreamOfAnotherCycle", {{"y", "x"}, {"x", "y"}, {"z", "y"}}, {}, "w", "z", true},
        CycleCase{"IntoAnotherCycle", {{"y", "x"}, {"x", "y"}, {"x", "w"}}, {}, "w", "y", false}),
    [](const auto& info) { return std::string(info.param.description); });

class RecordingDocument : public DependencyDocument {
 public:
  void entryChanged(VKDependencyBase* sender) override { changed.push_back(sender); }
  void presentException(const std::exception& exception, const std::string& message) override {
    presented.push_back(message + ": " + exception.what());
  }
  std::vector<VKDependencyBase*> changed;
  std::vector<std::string> presented;
};

TEST_F(Graph, LeavingTheDocumentDetachesFromBothSides) {
  auto document = std::make_shared<RecordingDocument>();
  reads("m", "s1");
  reads("m", "s2");
  reads("c", "m");
  // A link made from one side only goes too, without a complaint.
  node("m")->addClient(node("half"));
  for (const auto& name : {"m", "s1", "s2", "c"}) node(name)->setDocument(document);
  EXPECT_EQ(node("m")->document(), document);
  EXPECT_TRUE(node("m")->hasSuppliers());

  node("m")->setDocument(nullptr);
  EXPECT_EQ(node("m")->document(), nullptr);
  EXPECT_FALSE(node("m")->hasSuppliers());
  EXPECT_FALSE(node("m")->hasClients());
  EXPECT_FALSE(node("s1")->hasClients());
  EXPECT_FALSE(node("s2")->hasClients());
  EXPECT_FALSE(node("c")->hasSuppliers());
  EXPECT_EQ(node("s1")->document(), document);
  // Entities do not keep their document alive.
  document.reset();
  EXPECT_EQ(node("s1")->document(), nullptr);
}

TEST_F(Graph, ProblemsArePresentedByTheDocumentOrElseByTheMessageCentre) {
  std::runtime_error problem("bad range");
  node("a")->presentException(problem, "Error when drawing");
  auto posted = messages.take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].shortText, "Error when drawing");
  EXPECT_EQ(posted[0].longText, "bad range");

  auto document = std::make_shared<RecordingDocument>();
  node("a")->setDocument(document);
  node("a")->presentException(problem, "Error when drawing");
  EXPECT_THAT(document->presented, ElementsAre("Error when drawing: bad range"));
}

TEST_F(Graph, DestroyingAConnectedNodeSaysSoAndLeavesNoTraceInItsNeighbours) {
  reads("b", "a");
  reads("c", "b");
  nodes.erase("b");  // the only owner
  auto posted = messages.take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].shortText, VKDependencyBase::kDestroyedWhileConnected);
  EXPECT_THAT(posted[0].longText, HasSubstr("still has 1 client(s) and 1 supplier(s)"));
  EXPECT_FALSE(node("a")->hasClients());
  EXPECT_FALSE(node("c")->hasSuppliers());
  node("a")->thisControllerChanged();
  EXPECT_THAT(log, IsEmpty());

  // Detached first, it goes quietly.
  reads("d", "a");
  node("d")->setDocument(nullptr);
  nodes.erase("d");
  EXPECT_THAT(messages.takeShortTexts(), IsEmpty());
}

TEST_F(Graph, CommittingAnEditWhereThereIsNoneIsASeriousError) {
  EXPECT_TRUE(node("a")->commitEditing());
  auto posted = messages.take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].shortText, "Unexpected");
  EXPECT_TRUE(posted[0].serious);
}

}  // namespace
