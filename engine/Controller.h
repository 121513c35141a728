#pragma once
#include "Device.h"
#include "SegmentWorker.h"
#include "Transport.h"
#include "Value.h"
#include "Variable.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

// The one engine object: everything the loader built, and the polling of it.
class CController {
public:
    CController() = default;
    ~CController();
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    CValue* FindValue(const std::wstring& name) const;
    CValue* SetValue(const std::wstring& name, float x);

    std::vector<std::unique_ptr<CTransport>> transports;
    std::vector<std::unique_ptr<CDevice>> devices;
    std::vector<std::unique_ptr<CVariable>> variables;
    std::vector<CVariable*> computed;
    std::vector<std::wstring> prologue;
    std::vector<std::wstring> epilogue;
    std::vector<std::unique_ptr<CSegmentWorker>> workers;
    std::map<std::wstring, CValue*> values;
    std::vector<std::unique_ptr<CValue>> freeValues;  // the values owned by free variables
    int period = 0;
};
