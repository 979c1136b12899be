#include "platform/core/DynamicLibrary.h"

#include <dlfcn.h>

#include "platform/core/Exceptions.h"

namespace {

// dlerror's text, without the file name it often starts with.
std::string LastError(const std::string& FileName) {
  const char* Text = dlerror();
  if (!Text) return "unknown reason";
  std::string Reason = Text;
  if (Reason.starts_with(FileName + ": ")) Reason.erase(0, FileName.size() + 2);
  return Reason;
}

}  // namespace

TDynamicLibrary::TDynamicLibrary(const std::string& FileName)
    : FFileName(FileName),
      FHandle(dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
  if (!FHandle) throw Exception("cannot load " + FileName + ": " + LastError(FileName));
}

TDynamicLibrary::~TDynamicLibrary() {
  dlclose(FHandle);
}

void* TDynamicLibrary::Symbol(const char* Name) const {
  dlerror();
  void* Address = dlsym(FHandle, Name);
  if (!Address) throw Exception("cannot load " + FFileName + ": " + LastError(FFileName));
  return Address;
}
