# Fails when the committed template (po/tessolon.pot) lacks a text of the sources or the stored
# window definitions, or when a language's catalog leaves one untranslated or fuzzy (cmake -P;
# SOURCE_DIR, EXTRACT, XGETTEXT, MSGCAT, MSGCMP, MSGFMT, VERSION, LANGUAGES). The fresh template
# is made in a scratch folder of its own.
include(${SOURCE_DIR}/po/Template.cmake)
execute_process(COMMAND mktemp -d -t tessolon-catalogs-XXXXXX OUTPUT_VARIABLE scratch
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(faults "")
tessolon_make_template(${scratch}/tessolon.pot ${scratch})
execute_process(
  COMMAND ${MSGCMP} --use-untranslated ${SOURCE_DIR}/po/tessolon.pot ${scratch}/tessolon.pot
  RESULT_VARIABLE status ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  string(APPEND faults "po/tessolon.pot is not current (cmake --build BUILD --target pot):\n${report}")
endif()
foreach(lang ${LANGUAGES})
  execute_process(COMMAND ${MSGCMP} ${SOURCE_DIR}/po/${lang}.po ${scratch}/tessolon.pot
    RESULT_VARIABLE status ERROR_VARIABLE report)
  if(NOT status EQUAL 0)
    string(APPEND faults "po/${lang}.po lacks translations:\n${report}")
  endif()
  execute_process(COMMAND ${MSGFMT} --check --statistics -o /dev/null ${SOURCE_DIR}/po/${lang}.po
    RESULT_VARIABLE status ERROR_VARIABLE report)
  if(NOT status EQUAL 0 OR report MATCHES "untranslated|fuzzy")
    string(APPEND faults "msgfmt --check --statistics po/${lang}.po: ${report}")
  endif()
endforeach()
file(REMOVE_RECURSE ${scratch})
if(faults)
  message(FATAL_ERROR "${faults}")
endif()
