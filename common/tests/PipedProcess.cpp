#include "PipedProcess.h"

bool StartWithPipes(std::wstring commandLine, DWORD creationFlags, PROCESS_INFORMATION& info, CHandle& input,
                    CHandle& output)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childIn = nullptr, ourIn = nullptr, ourOut = nullptr, childOut = nullptr;
    if (!::CreatePipe(&childIn, &ourIn, &inherit, 0))
        return false;
    CHandle childInOwner(childIn);
    input.Attach(ourIn);
    if (!::CreatePipe(&ourOut, &childOut, &inherit, 0))
        return false;
    CHandle childOutOwner(childOut);
    output.Attach(ourOut);
    // Only the child's ends are inherited, so the pipes close when the child ends.
    ::SetHandleInformation(ourIn, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(ourOut, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = childOut;
    startup.hStdError = childOut;
    return ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, creationFlags, nullptr, nullptr,
                            &startup, &info) != FALSE;
}
