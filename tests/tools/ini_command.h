// The probes' "ini" command: PATH SECTION KEY [VALUE] writes VALUE with the
// profile functions, or without it prints the value read (UTF-8).
#pragma once

namespace probe {

// argv[2] the file, argv[3] the section, argv[4] the key, argv[5] the value
// to write. 0 done; 1 not written; 2 too few arguments.
int IniCommand(int argc, wchar_t** argv);

}  // namespace probe
