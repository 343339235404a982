#include "VKDependencyBase.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

#include "graph/dependency/DependencyDocument.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

std::string className(const VKDependencyBase* object) {
  if (!object) return "nothing";
  const char* mangled = typeid(*object).name();
  int status = 0;
  char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && readable) ? readable : mangled;
  std::free(readable);
  return name;
}

// Notices go to a snapshot of the clients, so a client may connect or
// disconnect while it is being told, and every client stays alive until it
// has been told.
void sendToClients(VKDependencyBase* sender, const DependencyList& clients, DependencyVisitSet& alreadySentFor) {
  for (const auto& client : clients) client->entryChanged(sender, alreadySentFor);
}

}  // namespace

VKDependencyBase::~VKDependencyBase() {
  DependencyList clientList = live(clients_);
  DependencyList supplierList = live(suppliers_);
  if (!clientList.empty() || !supplierList.empty()) {
    std::string detail = "still has " + std::to_string(clientList.size()) + " client(s) and " +
                         std::to_string(supplierList.size()) + " supplier(s)";
    for (const auto& client : clientList) detail += "\nclient: " + className(client.get());
    for (const auto& supplier : supplierList) detail += "\nsupplier: " + className(supplier.get());
    KRMessageCenter::addMessage(kDestroyedWhileConnected, detail);
  }
  // This object is no longer alive for its neighbours; dropping their dead
  // entries takes it out of their lists.
  for (const auto& client : clientList) pruneDead(client->suppliers_);
  for (const auto& supplier : supplierList) pruneDead(supplier->clients_);
}

void VKDependencyBase::pruneDead(LinkList& list) {
  std::erase_if(list, [](const Link& link) { return link.ref.expired(); });
}

bool VKDependencyBase::contains(const LinkList& list, const VKDependencyBase* entity) {
  if (!entity) return false;
  return std::any_of(list.begin(), list.end(),
                     [entity](const Link& link) { return link.node == entity && !link.ref.expired(); });
}

bool VKDependencyBase::removeFrom(LinkList& list, const VKDependencyBase* entity) {
  pruneDead(list);
  auto it = std::find_if(list.begin(), list.end(), [entity](const Link& link) { return link.node == entity; });
  if (!entity || it == list.end()) return false;
  list.erase(it);
  return true;
}

DependencyList VKDependencyBase::live(const LinkList& list) {
  DependencyList result;
  result.reserve(list.size());
  for (const auto& link : list)
    if (auto entity = link.ref.lock()) result.push_back(std::move(entity));
  return result;
}

void VKDependencyBase::postDiagnostic(const char* text, const VKDependencyBase* other) const {
  KRMessageCenter::addMessage(text, className(this) + " and " + className(other));
}

bool VKDependencyBase::add(LinkList& list, const std::shared_ptr<VKDependencyBase>& entity, const char* emptyText,
                           const char* twiceText) {
  if (!entity) {
    postDiagnostic(emptyText, nullptr);
    return false;
  }
  pruneDead(list);
  if (contains(list, entity.get())) {
    postDiagnostic(twiceText, entity.get());
    return false;
  }
  list.push_back({entity, entity.get()});
  return true;
}

void VKDependencyBase::remove(LinkList& list, const VKDependencyBase* entity, const char* notPresentText) {
  if (!removeFrom(list, entity)) postDiagnostic(notPresentText, entity);
}

void VKDependencyBase::addSupplier(const std::shared_ptr<VKDependencyBase>& entity) {
  add(suppliers_, entity, kEmptySupplier, kSupplierAddedTwice);
}

void VKDependencyBase::addClient(const std::shared_ptr<VKDependencyBase>& entity) {
  add(clients_, entity, kEmptyClient, kClientAddedTwice);
}

void VKDependencyBase::removeSupplier(const VKDependencyBase* entity) {
  remove(suppliers_, entity, kSupplierNotPresent);
}

void VKDependencyBase::removeClient(const VKDependencyBase* entity) { remove(clients_, entity, kClientNotPresent); }

void VKDependencyBase::connectAsSupplier(std::shared_ptr<VKDependencyBase> entity) {
  if (!entity) {
    postDiagnostic(kEmptySupplier, nullptr);
    return;
  }
  // The other side keeps a weak reference to this object, which needs an
  // owner; check before touching either list.
  auto self = weak_from_this().lock();
  if (!self) {
    postDiagnostic(kNotShared, entity.get());
    return;
  }
  addSupplier(entity);
  entity->addClient(self);
}

void VKDependencyBase::disconnectAsSupplier(std::shared_ptr<VKDependencyBase> entity) {
  if (!entity) {
    postDiagnostic(kSupplierNotPresent, nullptr);
    return;
  }
  removeSupplier(entity.get());
  entity->removeClient(this);
}

bool VKDependencyBase::anyLive(const LinkList& list) {
  return std::any_of(list.begin(), list.end(), [](const Link& link) { return !link.ref.expired(); });
}

bool VKDependencyBase::hasSuppliers() const { return anyLive(suppliers_); }

bool VKDependencyBase::hasClients() const { return anyLive(clients_); }

bool VKDependencyBase::hasSupplier(const VKDependencyBase* entity) const { return contains(suppliers_, entity); }

bool VKDependencyBase::hasClient(const VKDependencyBase* entity) const { return contains(clients_, entity); }

DependencyList VKDependencyBase::suppliers() const { return live(suppliers_); }

DependencyList VKDependencyBase::clients() const { return live(clients_); }

DependencyList VKDependencyBase::suppliersPending() const { return {}; }

DependencyList VKDependencyBase::shortestCircularReference(const VKDependencyBase*) const { return {}; }

bool VKDependencyBase::canAddSupplier(const std::shared_ptr<VKDependencyBase>& candidate) const {
  // Nothing can be added, and an object reading itself is the shortest cycle.
  if (!candidate || candidate.get() == this) return false;
  DependencyVisitSet visited;
  visited.reserve(10);
  return !candidate->doesObjectExistAsSupplier(this, visited);
}

bool VKDependencyBase::doesObjectExistAsSupplier(const VKDependencyBase* target,
                                                 DependencyVisitSet& knownResponsesFrom) const {
  // An object already asked has answered, or is still answering further up;
  // either way asking it again adds nothing, and this ends cycles.
  if (!knownResponsesFrom.insert(this).second) return false;
  if (hasSupplier(target)) return true;
  DependencyList pending = suppliersPending();
  for (const auto& entity : pending)
    if (entity.get() == target) return true;
  for (const auto& entity : pending)
    if (entity && entity->doesObjectExistAsSupplier(target, knownResponsesFrom)) return true;
  for (const auto& supplier : suppliers())
    if (supplier->doesObjectExistAsSupplier(target, knownResponsesFrom)) return true;
  return false;
}

void VKDependencyBase::thisControllerChanged() {
  DependencyVisitSet alreadySentFor;
  alreadySentFor.reserve(5);
  thisControllerChanged(alreadySentFor);
}

void VKDependencyBase::thisControllerChanged(DependencyVisitSet& alreadySentFor) {
  sendToClients(this, clients(), alreadySentFor);
}

void VKDependencyBase::entryChanged(VKDependencyBase*, DependencyVisitSet& alreadySentFor) {
  if (!alreadySentFor.insert(this).second) return;
  sendToClients(this, clients(), alreadySentFor);
}

void VKDependencyBase::entryChanged(VKDependencyBase*) {}

void VKDependencyBase::listOfControllersChanged(const DependencyList& list) {
  DependencyVisitSet alreadySentFor;
  alreadySentFor.reserve(20);
  for (const auto& object : list)
    if (object && !alreadySentFor.contains(object.get()) && object->hasClients())
      object->thisControllerChanged(alreadySentFor);
}

void VKDependencyBase::setDocument(std::shared_ptr<DependencyDocument> document) {
  document_ = document;
  if (!document) detach();
}

void VKDependencyBase::detach() {
  // A link may have been made from one side only (addSupplier alone), so the
  // other side is cleared without complaint when it holds nothing.
  for (const auto& supplier : live(suppliers_)) removeFrom(supplier->clients_, this);
  for (const auto& client : live(clients_)) removeFrom(client->suppliers_, this);
  suppliers_.clear();
  clients_.clear();
}

void VKDependencyBase::presentException(const std::exception& exception, const std::string& message) {
  if (auto owner = document())
    owner->presentException(exception, message);
  else
    KRMessageCenter::addMessage(message, exception.what());
}

bool VKDependencyBase::commitEditing() {
  KRMessageCenter::seriousErrorMessage(kUnexpected);
  return true;
}

}  // namespace orrelin
