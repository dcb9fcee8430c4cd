// The library side of the controller's base class: the class reference that GetController
// instantiates. The class itself is declared for hosts in include/nuv/DLLBaseCtrller.h.
#pragma once

#include <nuv/DLLBaseCtrller.h>

namespace nuv {

// A class reference to a controller class: builds a new instance with the parameterless
// constructor.
using TDLLControllerClass = TDLLBaseController* (*)();

template <class T> TDLLBaseController* ControllerClassOf() {
    return new T();
}

// The controller class that GetController instantiates. Set by the initialisation of the
// module that declares the concrete controller (TDLLRPCtrller); nullptr until then.
extern TDLLControllerClass DLLControllerClass;

// GetController's work: a new instance of DLLControllerClass, or the internal error when the
// class is unassigned.
TDLLBaseController* NewController();

} // namespace nuv
