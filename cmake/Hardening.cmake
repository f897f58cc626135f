# The hardening Debian builds packages with (dpkg-buildflags with hardening=+all), set here so
# that every build of the program has it, with or without dpkg: stack protector, fortified libc
# calls, format checks, control-flow protection, PIE, read-only relocations bound at start.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

option(ZL_HARDEN "Build with the distribution's hardening flags" ON)

if(ZL_HARDEN AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT APPLE AND NOT WIN32)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)

    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    foreach(flag IN ITEMS -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "ZL_HAS${flag}" has_flag)
        check_cxx_compiler_flag(${flag} ${has_flag})
        if(${has_flag})
            add_compile_options(${flag})
        endif()
    endforeach()
    # Fortify needs the optimiser; the sanitizers do their own checking of the same calls.
    if(NOT ZL_SANITIZE)
        add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    endif()
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
