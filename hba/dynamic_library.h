// The one place where shared libraries are opened, searched and closed.
// Libraries are opened lazily (RTLD_LAZY) and locally; a null handle or a
// null result means "none".
#pragma once

void* OpenLibrary(const char* path);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

// A symbol of the library as a function of type F, or null.
template <class F>
F FindFunction(void* library, const char* name) {
    return reinterpret_cast<F>(FindSymbol(library, name));
}
