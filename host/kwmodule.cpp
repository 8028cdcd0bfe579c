#include "host/kwmodule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

bool KWLayoutModule::open(const std::string& path, const char* create, const char* destroy) {
  close();
  error_.clear();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* e = dlerror();
    error_ = std::string("cannot load ") + path + ": " + (e ? e : "unknown error");
    return false;
  }
  using CreateFn = KWStyleFactory* (*)();
  using DestroyFn = void (*)(KWStyleFactory*);
  CreateFn c = reinterpret_cast<CreateFn>(dlsym(handle_, create));
  destroy_ = reinterpret_cast<DestroyFn>(dlsym(handle_, destroy));
  if (!c || !destroy_) {
    error_ = path + " does not export " + create + " and " + destroy;
    close();
    return false;
  }
  factory_ = c();
  if (!factory_) {
    error_ = std::string(create) + " answered no factory (out of memory)";
    close();
    return false;
  }
  return true;
}

void KWLayoutModule::close() {
  if (factory_ && destroy_) destroy_(factory_);
  factory_ = nullptr;
  destroy_ = nullptr;
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

std::string KWLayoutModule::defaultSymmetricPath() {
  if (const char* env = std::getenv("KWSLAY_MODULE")) return env;
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n > 0) {
    std::string exe(buf, static_cast<size_t>(n));
    std::string dir = exe.substr(0, exe.find_last_of('/'));
    for (const char* rel : {"/libkwvrsl40.so", "/../lib/libkwvrsl40.so"}) {
      std::string p = dir + rel;
      if (access(p.c_str(), R_OK) == 0) return p;
    }
  }
  return "libkwvrsl40.so";
}

bool KWLayoutModule::openSymmetric() {
  return open(defaultSymmetricPath(), "newSLayFactory", "deleteSLayoutFactory");
}
