#pragma once
// A node of a document's dependency graph. Every entity that reads another
// (columns, parameters, input settings, commands, graphs, the table) records
// the entities it reads, its suppliers, and is recorded by them as a client. A
// change notice travels from a supplier to its clients, transitively, and
// reaches each node at most once per change, so cycles end.
//
// Ownership: the links do not own. Both lists hold weak references, and the
// entities are owned by whoever keeps them (the document its table, graphs and
// definitions, a graph its commands, a command its settings), so no shape of
// the graph, cycles included, keeps anything alive. An entity therefore has to
// be held by a std::shared_ptr before it can be linked. A node that is
// destroyed while still linked says so (that is a missing detach, see
// setDocument) and drops out of its neighbours' lists.
//
// The graph lives on the main thread; nothing here locks.

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace orrelin {

class DependencyDocument;
class VKDependencyBase;

// The nodes a change notice (or a cycle check) has already reached.
using DependencyVisitSet = std::unordered_set<const VKDependencyBase*>;
using DependencyList = std::vector<std::shared_ptr<VKDependencyBase>>;

class VKDependencyBase : public std::enable_shared_from_this<VKDependencyBase> {
 public:
  // Diagnostics, posted to the message centre with both classes as the long
  // text; the lists are left as they were.
  static constexpr const char* kSupplierAddedTwice = "Trying to add a supplier twice";
  static constexpr const char* kClientAddedTwice = "Trying to add a client twice";
  static constexpr const char* kSupplierNotPresent = "Trying to remove a supplier that is not in the list";
  static constexpr const char* kClientNotPresent = "Trying to remove a client that is not in the list";
  static constexpr const char* kEmptySupplier = "Trying to add an empty supplier";
  static constexpr const char* kEmptyClient = "Trying to add an empty client";
  static constexpr const char* kNotShared = "Trying to connect an object that is not shared";
  static constexpr const char* kDestroyedWhileConnected = "Dependency object destroyed while still connected";
  // Posted as a serious error by commitEditing when a subclass that edits no
  // text is asked to commit.
  static constexpr const char* kUnexpected = "Unexpected";

  VKDependencyBase() = default;
  virtual ~VKDependencyBase();
  VKDependencyBase(const VKDependencyBase&) = delete;
  VKDependencyBase& operator=(const VKDependencyBase&) = delete;

  // One side of a link. Adding appends when not yet present; removing removes
  // when present. Either way round, a wrong call posts a diagnostic and changes
  // nothing.
  void addSupplier(const std::shared_ptr<VKDependencyBase>& entity);
  void addClient(const std::shared_ptr<VKDependencyBase>& entity);
  void removeSupplier(const VKDependencyBase* entity);
  void removeClient(const VKDependencyBase* entity);

  // Both sides: entity becomes a supplier of this object, this object a client
  // of entity. The argument keeps entity alive while it is being disconnected.
  void connectAsSupplier(std::shared_ptr<VKDependencyBase> entity);
  void disconnectAsSupplier(std::shared_ptr<VKDependencyBase> entity);

  bool hasSuppliers() const;
  bool hasClients() const;
  bool hasSupplier(const VKDependencyBase* entity) const;
  bool hasClient(const VKDependencyBase* entity) const;
  // The lists in the order the entries were added.
  DependencyList suppliers() const;
  DependencyList clients() const;

  // Entities that will become suppliers once this object's connections are
  // made (a column loaded from a file names its suppliers before the table is
  // complete); the cycle check looks at them too. None here.
  virtual DependencyList suppliersPending() const;
  // The chain of entities that would close a cycle if candidate became a
  // supplier, for showing the user; none here.
  virtual DependencyList shortestCircularReference(const VKDependencyBase* candidate) const;

  // False when candidate already depends on this object (directly, through
  // its pending suppliers, or further down), or is this object: adding it as
  // a supplier would close a cycle.
  bool canAddSupplier(const std::shared_ptr<VKDependencyBase>& candidate) const;
  // Whether target is among this object's suppliers, pending suppliers, or
  // theirs, transitively. Objects already in knownResponsesFrom are not asked
  // again (they answer false), which ends cycles.
  virtual bool doesObjectExistAsSupplier(const VKDependencyBase* target,
                                         DependencyVisitSet& knownResponsesFrom) const;

  // This object changed: tell every client, each at most once, in order.
  void thisControllerChanged();
  void thisControllerChanged(DependencyVisitSet& alreadySentFor);
  // A supplier (sender) changed. Unless this object has already been reached,
  // it marks itself reached and passes the notice on to its clients with
  // itself as the sender. Subclasses override it to react to the senders that
  // affect them and then call this one. (A subclass that overrides one
  // entryChanged should bring the other into scope with a using-declaration.)
  virtual void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor);
  // The subclass hook for "my output is affected"; nothing here.
  virtual void entryChanged(VKDependencyBase* sender);
  // Several objects changed at once: one notice pass in which every object
  // is reached at most once.
  static void listOfControllersChanged(const DependencyList& list);

  // Setting none detaches this object from the graph: it leaves the client
  // lists of its suppliers and the supplier lists of its clients, and empties
  // its own lists. Entities leaving a document are detached this way.
  virtual void setDocument(std::shared_ptr<DependencyDocument> document);
  std::shared_ptr<DependencyDocument> document() const { return document_.lock(); }

  // Handed to the document, which shows it to the user; without a document
  // it goes to the message centre.
  virtual void presentException(const std::exception& exception, const std::string& message);

  // Finishes a text edit in progress. Only entities that edit text have one,
  // so here it reports "Unexpected" as a serious error and answers true.
  virtual bool commitEditing();

 private:
  struct Link {
    std::weak_ptr<VKDependencyBase> ref;
    // Identity of a live entry; a dead entry is never compared.
    const VKDependencyBase* node;
  };
  using LinkList = std::vector<Link>;

  static void pruneDead(LinkList& list);
  static bool contains(const LinkList& list, const VKDependencyBase* entity);
  static bool removeFrom(LinkList& list, const VKDependencyBase* entity);
  static DependencyList live(const LinkList& list);
  static bool anyLive(const LinkList& list);
  bool add(LinkList& list, const std::shared_ptr<VKDependencyBase>& entity, const char* emptyText,
           const char* twiceText);
  void remove(LinkList& list, const VKDependencyBase* entity, const char* notPresentText);
  void detach();
  void postDiagnostic(const char* text, const VKDependencyBase* other) const;

  std::weak_ptr<DependencyDocument> document_;
  LinkList suppliers_;
  LinkList clients_;
};

}  // namespace orrelin
