# Makes po/tessolon.pot and merges it into each language's catalog (target pot, po/CMakeLists.txt).
include(${CMAKE_CURRENT_LIST_DIR}/Template.cmake)
tessolon_make_template(${SOURCE_DIR}/po/tessolon.pot ${BINARY_DIR})
foreach(lang ${LANGUAGES})
  execute_process(
    COMMAND ${MSGMERGE} --quiet --update --backup=none --previous ${SOURCE_DIR}/po/${lang}.po
            ${SOURCE_DIR}/po/tessolon.pot
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
