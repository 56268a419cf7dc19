# cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -P InstallLayout.cmake
# Installs the build into PREFIX (emptied first) and checks that the program, its examples,
# the desktop entry, the MIME type and the icons are where a desktop looks for them.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(expected
  bin/tarnwick
  bin/tarnwick-cli
  bin/tarnwick-cli-draw
  "bin/ENGLISH UNITS EXAMPLE.btw"
  "bin/SI UNITS EXAMPLE.btw"
  share/applications/tarnwick.desktop
  share/mime/packages/tarnwick.xml)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tarnwick.png
       share/icons/hicolor/${size}x${size}/mimetypes/application-x-brenmoor-tarnwick.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The PNG files are pictures of their stated size (the IHDR chunk holds width and height).
foreach(size 16 256)
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tarnwick.png" header
       LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" hex_size "${hex_size}")
  string(LENGTH "${hex_size}" length)
  while(length LESS 8)
    string(PREPEND hex_size "0")
    string(LENGTH "${hex_size}" length)
  endwhile()
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL "${hex_size}${hex_size}")
    message(FATAL_ERROR "icon ${size}: not a ${size}x${size} PNG (${header})")
  endif()
endforeach()

# The desktop entry starts the installed program with the file and names the MIME type and
# the icon that were installed.
file(READ "${PREFIX}/share/applications/tarnwick.desktop" entry)
foreach(line "Exec=tarnwick %f" "Icon=tarnwick" "Name=Brenmoor Tarnwick"
             "MimeType=application/x-brenmoor-tarnwick;")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "tarnwick.desktop lacks \"${line}\"")
  endif()
endforeach()

# Where the MIME database tool is present, the install step has built the database: .btw
# files are of the program's type.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  if(NOT EXISTS "${PREFIX}/share/mime/globs2")
    message(FATAL_ERROR "the MIME database was not updated")
  endif()
  file(READ "${PREFIX}/share/mime/globs2" globs)
  string(FIND "${globs}" "application/x-brenmoor-tarnwick:*.btw" at)
  if(at LESS 0)
    message(FATAL_ERROR "*.btw is not application/x-brenmoor-tarnwick:\n${globs}")
  endif()
  file(READ "${PREFIX}/share/mime/magic" magic HEX)
  string(HEX "Brenmoor Tarnwick" product)
  string(FIND "${magic}" "${product}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the MIME magic lacks the product name of the header")
  endif()
endif()

# The installed program runs from its place.
execute_process(COMMAND "${PREFIX}/bin/tarnwick" --version OUTPUT_VARIABLE version_text
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version_text STREQUAL "Brenmoor Tarnwick ${VERSION}\n")
  message(FATAL_ERROR "installed tarnwick --version: ${result} \"${version_text}\"")
endif()
message(STATUS "installed layout in ${PREFIX} is complete")
