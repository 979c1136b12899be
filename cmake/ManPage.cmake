# Makes tessolon.1.gz with help2man from the program's --help and --version and from the
# --help of every command that the main help lists (cmake -P; PROGRAM, HELP2MAN, OUTPUT).
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE main_help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
# The commands are the two-space-indented words of the "Commands" block.
string(REGEX MATCH "\nCommands[^\n]*:\n(  [a-z]+ [^\n]*\n)+" block "${main_help}")
string(REGEX MATCHALL "\n  [a-z]+ " names "${block}")
if(NOT names)
  message(FATAL_ERROR "no commands found in ${PROGRAM} --help")
endif()

set(include_text "[COMMANDS]\n")
foreach(name ${names})
  string(STRIP "${name}" name)
  execute_process(COMMAND ${PROGRAM} ${name} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${name} --help failed: ${status}")
  endif()
  # Plain text for roff: backslashes doubled, lines that begin with . or ' protected.
  string(REPLACE "\\" "\\\\" help "${help}")
  string(REPLACE "\n." "\n\\&." help "${help}")
  string(REPLACE "\n'" "\n\\&'" help "${help}")
  string(APPEND include_text ".SS ${name}\n.nf\n${help}.fi\n")
endforeach()
string(APPEND include_text "[FILES]\n"
  ".TP\n.I data/para.dbf, data/idx.ndx\n"
  "the pest table and its index in the working directory, used when present\n"
  ".TP\n.I $XDG_DATA_HOME/tessolon/data/\n"
  "the user's own copy of the pest table (~/.local/share/tessolon/data/ by default)\n"
  ".TP\n.I share/tessolon/data/\n"
  "the installed pest table beside the program's bin/ folder (/usr/share/tessolon/data/ in the package), copied to the user's folder on first use\n"
  ".TP\n.I tessolon-sweep@.service\n"
  "systemd user unit running a headless sweep for the pest its instance names\n")
file(WRITE ${out_dir}/commands.h2m "${include_text}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 "--name=sound-based pest repeller"
          --include=${out_dir}/commands.h2m --output=${out_dir}/tessolon.1 ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${status}")
endif()
# Compressed without a time stamp, so that the package is reproducible.
execute_process(COMMAND gzip -9nf ${out_dir}/tessolon.1 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed: ${status}")
endif()
