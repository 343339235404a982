#pragma once
// The background workers the table's columns use, in the shapes the lower
// libraries ask for: column evaluation shares its blocks with the shared
// operation queue's threads.

#include "expression/KRExpressionWorkers.h"

namespace orrelin {

// The shared operation queue as workers for column evaluation.
KRExpressionWorkers& sharedExpressionWorkers();

}  // namespace orrelin
