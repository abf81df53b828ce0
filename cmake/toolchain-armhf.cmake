# Cross build for the panel's board (32-bit ARM, hard float) with Debian's multiarch
# packages: the cross compiler from crossbuild-essential-armhf, the target's Qt from
# qtbase5-dev:armhf under /usr/lib/arm-linux-gnueabihf, and the build machine's own Qt tools
# (moc, uic, rcc, lrelease), which generate the same files for every architecture.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# Multiarch keeps the target's headers and libraries beside the build machine's under /usr;
# the lib/arm-linux-gnueabihf directories make the difference, so no sysroot is needed.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# pkg-config (libmosquitto) reads the target's descriptions, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/pkgconfig:/usr/share/pkgconfig")

# lrelease only exists as a build-machine package; use its CMake description.
if(NOT Qt5LinguistTools_DIR)
    execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
        OUTPUT_VARIABLE _h2_build_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT _h2_build_multiarch)
        set(_h2_build_multiarch "${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu")
    endif()
    set(Qt5LinguistTools_DIR "/usr/lib/${_h2_build_multiarch}/cmake/Qt5LinguistTools"
        CACHE PATH "the build machine's Qt linguist tools")
endif()

# Tests, and anything else CMake runs from this build, go through user-mode emulation. The
# multiarch loader (/lib/ld-linux-armhf.so.3) lets it find the target's libraries as they are.
find_program(H2_QEMU_ARM NAMES qemu-arm-static qemu-arm)
if(H2_QEMU_ARM)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${H2_QEMU_ARM}")
endif()

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
