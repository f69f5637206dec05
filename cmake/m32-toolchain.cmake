# 32-bit x86 Linux, the library's real target, built on an x86-64 host.
# Setting the system name marks the build as cross-compiled, so CMake runs
# the test programs (and gtest_discover_tests) through the emulator: the
# host kernel may not run 32-bit programs natively.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

# Large-file support: directory reading and file status must work on file
# systems with 64-bit inode numbers. 64-bit time: times past January 2038
# (the stored history holds 32-bit unsigned seconds, up to 2106).
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

find_program(SUBCLIENTCONF_QEMU_I386 qemu-i386)
if(NOT SUBCLIENTCONF_QEMU_I386)
  message(FATAL_ERROR "qemu-i386 not found: install the Debian package qemu-user (scripts/setup does)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${SUBCLIENTCONF_QEMU_I386})
