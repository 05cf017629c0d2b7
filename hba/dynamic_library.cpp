#include "dynamic_library.h"

#include <dlfcn.h>

void* OpenLibrary(const char* path) { return dlopen(path, RTLD_LAZY); }

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }
