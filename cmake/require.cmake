# What the build needs from the system. A missing dependency stops the
# configure step with the Debian package that provides it; nothing is left
# out of the build silently.

# qr_require_package(<cmake package name> <debian package> [find_package arguments...])
macro(qr_require_package name debian)
  find_package(${name} QUIET ${ARGN})
  if(NOT ${name}_FOUND)
    message(FATAL_ERROR "${name} ${ARGN} not found: install the Debian package ${debian} (scripts/install-deps)")
  endif()
endmacro()

# qr_require_pkg_config(<prefix> <pkg-config module> <debian package>)
# Defines the imported target PkgConfig::<prefix>.
macro(qr_require_pkg_config prefix module debian)
  qr_require_package(PkgConfig pkg-config)
  if(NOT TARGET PkgConfig::${prefix})
    pkg_check_modules(${prefix} QUIET IMPORTED_TARGET ${module})
    if(NOT ${prefix}_FOUND)
      message(FATAL_ERROR "${module} not found: install the Debian package ${debian} (scripts/install-deps)")
    endif()
  endif()
endmacro()

# qr_require_program(<variable> <program> <debian package>)
function(qr_require_program variable program debian)
  find_program(${variable} ${program})
  if(NOT ${variable})
    message(FATAL_ERROR "${program} not found: install the Debian package ${debian} (scripts/install-deps)")
  endif()
endfunction()
