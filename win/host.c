/*
 * lumaveil-host: minimal Windows driver for lumaveil.dll.
 *
 *   lumaveil-host.exe MODE
 *
 * Loads lumaveil.dll, looks up the exported entry point "main5" and calls it
 * once with MODE (atoi of argv[1]).  main5 reads IN_FM.txt from and writes
 * OUT_M.xls to the current directory, so run this from the lens folder.
 *
 * The entry point is __stdcall on 32-bit Windows (the callee pops its int
 * argument), so the pointer below carries the same convention; on x86-64
 * the keyword is accepted and ignored.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

typedef void(__stdcall *lumaveil_main5_fn)(int mode);

int main(int argc, char **argv)
{
    int mode = 0;
    HMODULE lib;
    lumaveil_main5_fn entry;

    if (argc > 1)
        mode = atoi(argv[1]);

    lib = LoadLibraryA("lumaveil.dll");
    if (lib == NULL) {
        fprintf(stderr, "lumaveil-host: cannot load lumaveil.dll (error %lu)\n",
                (unsigned long)GetLastError());
        return 1;
    }

    /* GetProcAddress returns a generic FARPROC.  Converting it through a
     * pointer-sized integer keeps -Wcast-function-type (part of -Wextra)
     * quiet about the change of signature. */
    entry = (lumaveil_main5_fn)(INT_PTR)GetProcAddress(lib, "main5");
    if (entry == NULL) {
        fprintf(stderr, "lumaveil-host: lumaveil.dll has no export \"main5\" (error %lu)\n",
                (unsigned long)GetLastError());
        FreeLibrary(lib);
        return 1;
    }

    entry(mode);

    FreeLibrary(lib);
    return 0;
}
