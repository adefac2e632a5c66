# Checks that the desktop entry opens files: its Exec line passes one file (%f) to the program,
# and its MimeType line names the Game Boy and Game Boy Color image types, each of which the
# system's shared-mime-info database knows (by the patterns *.gb and *.gbc).
# cmake -DDESKTOP_FILE=<entry> -DMIME_DATABASE=<freedesktop.org.xml> -P CheckDesktopOpenWith.cmake
file(STRINGS ${DESKTOP_FILE} execLines REGEX "^Exec=")
if(NOT execLines STREQUAL "Exec=brindlewick %f")
    message(FATAL_ERROR "expected the one line Exec=brindlewick %f, found: ${execLines}")
endif()

set(expectedTypes application/x-gameboy-color-rom application/x-gameboy-rom)
set(expectedLine "MimeType=application/x-gameboy-color-rom;application/x-gameboy-rom;")
# Read whole: file(STRINGS) would turn the entry's semicolons into list separators.
file(READ ${DESKTOP_FILE} entry)
string(REGEX MATCHALL "\nMimeType=" mimeLines "${entry}")
list(LENGTH mimeLines mimeLineCount)
string(FIND "${entry}" "\n${expectedLine}\n" found)
if(NOT mimeLineCount EQUAL 1 OR found EQUAL -1)
    message(FATAL_ERROR "expected the one line ${expectedLine}")
endif()

if(NOT EXISTS ${MIME_DATABASE})
    message(FATAL_ERROR "${MIME_DATABASE} is missing: run scripts/install-deps")
endif()
file(READ ${MIME_DATABASE} database)
set(patterns "*.gbc" "*.gb")
foreach(type pattern IN ZIP_LISTS expectedTypes patterns)
    string(FIND "${database}" "<mime-type type=\"${type}\">" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${MIME_DATABASE} knows no MIME type ${type}")
    endif()
    string(SUBSTRING "${database}" ${at} -1 entry)
    string(FIND "${entry}" "</mime-type>" end)
    string(SUBSTRING "${entry}" 0 ${end} entry)
    string(FIND "${entry}" "<glob pattern=\"${pattern}\"" glob)
    if(glob EQUAL -1)
        message(FATAL_ERROR "${type} is not given to ${pattern} files in ${MIME_DATABASE}")
    endif()
endforeach()
message(STATUS "Exec=brindlewick %f; ${expectedLine}")
