# The catalog's template, for cmake -P scripts (po/UpdatePot.cmake, tests/CheckCatalogs.cmake):
# what xgettext finds in the sources (Tr, TrMark, TrContext, FormatMessage), the desktop entry
# and the AppStream data, the stored window definitions' texts (EXTRACT,
# extract-definition-texts) and Qt's own texts (po/QtTexts.pot). Needs SOURCE_DIR, EXTRACT, XGETTEXT, MSGCAT and VERSION.
function(tessolon_make_template output work_dir)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "^(build[^/]*|tests|bench|tools|po)/")
  list(SORT sources)
  file(GLOB definitions RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/resources/*.dfm)
  list(SORT definitions)
  set(code_pot ${work_dir}/code.pot)
  set(package --package-name=Tessolon --package-version=${VERSION} --msgid-bugs-address=https://tessolon.test/
              --copyright-holder=Veldran\ Corp)
  set(definitions_pot ${work_dir}/definitions.pot)
  execute_process(
    COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword=Tr --keyword=TrMark
            --keyword=TrContext:1c,2 --keyword=FormatMessage --flag=FormatMessage:1:c-format
            --add-comments=Translators: --sort-by-file
            ${package} -o ${code_pot} ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${XGETTEXT} --from-code=UTF-8 --join-existing ${package} -o ${code_pot}
            dist/org.veldran.Tessolon.desktop dist/org.veldran.Tessolon.metainfo.xml
    WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${EXTRACT} ${definitions_pot} ${SOURCE_DIR} ${definitions}
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${MSGCAT} --use-first -o ${output} ${code_pot} ${definitions_pot}
            ${SOURCE_DIR}/po/QtTexts.pot
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()
