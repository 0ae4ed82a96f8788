// The binary interface between a component library and its hosts, in the shape of an in-process COM server.
#pragma once

// The binary interface between a component library and its hosts, in the
// shape of an in-process COM server: four C entry points. A host never
// links the library; it loads it with QLibrary and resolves these names.

#include <cstdint>

class QObject;

namespace ComponentAbi {

using Result = std::int32_t;
inline constexpr Result kOk = 0;                                  // S_OK
inline constexpr Result kFalse = 1;                               // S_FALSE
inline constexpr Result kClassNotAvailable = Result(0x80040111u); // CLASS_E_CLASSNOTAVAILABLE
inline constexpr Result kFail = Result(0x80004005u);              // E_FAIL

// The class factory handed out for one ProgID: makes a new object owned by
// parent (nullptr for none).
using CreateInstanceFn = QObject *(*)(QObject *parent);

using DllGetClassObjectFn = Result (*)(const char *progId, CreateInstanceFn *factory);
using DllCanUnloadNowFn = Result (*)();
using DllRegisterServerFn = Result (*)();
using DllUnregisterServerFn = Result (*)();

} // namespace ComponentAbi
