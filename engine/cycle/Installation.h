#pragma once
#include "Device.h"
#include "Transport.h"
#include "Value.h"
#include "Variable.h"
#include <memory>
#include <string>
#include <vector>

// Everything the loader builds from controller.xml, handed to the engine in one piece.
struct CInstallation {
    std::vector<std::unique_ptr<CTransport>> transports;
    std::vector<std::unique_ptr<CDevice>> devices;
    std::vector<std::unique_ptr<CVariable>> variables;
    std::vector<std::unique_ptr<CValue>> freeValues;  // the values owned by free variables
    std::vector<CVariable*> computed;                 // the variables with a formula, in list order
    std::vector<std::wstring> prologue;
    std::vector<std::wstring> epilogue;
    int period = 0;
};
