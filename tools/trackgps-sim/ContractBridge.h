#pragma once

#include "SimValue.h"

#include <memory>

class TRemotable;

// The simulator's values as instances of the Odolink client's contract classes, so that replies
// are written by the same runtime and registrations that read them.
namespace sim {

// Registers the contract with the runtime and checks that the simulator's types agree with it
// field by field; throws EZeltError naming the first difference.
void checkContractAgreement();

// A fresh instance of the registered type class of object.type, with the object's fields set.
// A nil text (or list of texts) is left unset: the runtime writes nil only for objects.
std::unique_ptr<TRemotable> toContract(const SimObject& object);

} // namespace sim
