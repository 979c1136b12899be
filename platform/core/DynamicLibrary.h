// A shared object loaded while the program runs (dlopen). It stays loaded until the process
// ends: what its code started (toolkit threads, exit handlers) may still run then.
#pragma once

#include <string>

class TDynamicLibrary {
 public:
  // Loads the file and binds its symbols at once; throws Exception "cannot load FILE: REASON".
  explicit TDynamicLibrary(const std::string& FileName);
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;
  ~TDynamicLibrary();

  const std::string& FileName() const { return FFileName; }
  // The address of an exported symbol; throws Exception "cannot load FILE: undefined symbol ...".
  void* Symbol(const char* Name) const;
  // The same as a pointer to a function of type F.
  template <class F>
  F* Function(const char* Name) const {
    return reinterpret_cast<F*>(Symbol(Name));
  }

 private:
  std::string FFileName;
  void* FHandle;
};
