// A shared object loaded while the program runs (dlopen). It stays loaded until the process
// ends: what its code started (toolkit threads, exit handlers) may still run then.
#pragma once

#include <exception>
#include <memory>
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

// A table of a library's functions (a class that loads the library and binds them in its
// constructor), made the first time it is asked for and kept for the process; nullptr when the
// library or one of its functions is missing, so that callers can do without it.
template <class Table>
const Table* LoadedOnce() {
  static const std::unique_ptr<Table> Loaded = []() -> std::unique_ptr<Table> {
    try {
      return std::make_unique<Table>();
    } catch (const std::exception&) {
      return nullptr;
    }
  }();
  return Loaded.get();
}
