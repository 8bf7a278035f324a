# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged files before it builds the Debian package:
# Debian's own layout where it differs from an install from source.
# - Games' programs live in /usr/games; ../share/crateworks beside them is still the data.
# - The font is Debian's (fonts-dejavu-core, a dependency), not a second copy of the same file.
# - The programs are stripped of the compiler's notes too, as dh_strip does.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
if(NOT IS_DIRECTORY "${root}/bin")
  message(FATAL_ERROR "deb_layout: no usr/bin in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
file(RENAME "${root}/bin" "${root}/games")
set(font "${root}/share/crateworks/assets/DejaVuSans.ttf")
# Its licence is then fonts-dejavu-core's, and repeated in our copyright file.
file(REMOVE "${font}" "${root}/share/crateworks/assets/DejaVuSans-LICENSE.txt")
# Relative, as Debian wants links within /usr.
file(CREATE_LINK ../../fonts/truetype/dejavu/DejaVuSans.ttf "${font}" SYMBOLIC)
foreach(program crateworks crateworks-replay)
  execute_process(COMMAND objcopy --remove-section=.comment --remove-section=.note
                          "${root}/games/${program}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
