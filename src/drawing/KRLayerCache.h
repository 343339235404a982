#pragma once
// An off-screen layer kept by a drawing object for the graphics context it
// was made for (a layer suits only its own context's device). Copies of an
// object start without one.

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/GraphicsContext.h"

namespace orrelin {

class KRLayerCache {
 public:
  KRLayerCache() = default;
  KRLayerCache(const KRLayerCache&) {}
  KRLayerCache& operator=(const KRLayerCache&) {
    clear();
    return *this;
  }

  // The layer made for this context from the object as it looked with the
  // stamp (its appearanceStamp), and where it is drawn; none otherwise.
  std::shared_ptr<GraphicsLayer> layerFor(const GraphicsContext& context, KRRect* where = nullptr,
                                          std::uint64_t stamp = 0) const {
    std::lock_guard guard(lock_);
    if (owner_ != context.identifier() || stamp_ != stamp) return nullptr;
    if (where) *where = where_;
    return layer_;
  }
  void store(const GraphicsContext& context, std::shared_ptr<GraphicsLayer> layer, const KRRect& where = {},
             std::uint64_t stamp = 0) {
    std::lock_guard guard(lock_);
    layer_ = std::move(layer);
    where_ = where;
    owner_ = context.identifier();
    stamp_ = stamp;
  }
  void clear() {
    std::lock_guard guard(lock_);
    layer_.reset();
    owner_ = 0;
  }
  std::size_t memoryUsed() const {
    std::lock_guard guard(lock_);
    return layer_ ? layer_->memoryUsed() : 0;
  }

 private:
  mutable std::mutex lock_;
  std::shared_ptr<GraphicsLayer> layer_;
  KRRect where_;
  std::uint64_t owner_ = 0;
  std::uint64_t stamp_ = 0;
};

}  // namespace orrelin
