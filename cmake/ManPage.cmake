# Makes tessolon.1.gz with help2man from the program's --help and --version and from the
# --help of every command that the main help lists (cmake -P; PROGRAM, HELP2MAN, OUTPUT).
# The manual page is English, whatever language the build runs in.
set(ENV{LC_ALL} C)
unset(ENV{LANGUAGE})
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
  "systemd user unit running a headless sweep for the pest its instance names\n"
  ".TP\n.I tessolon-sweep-nightly@.service, tessolon-sweep-nightly@.timer\n"
  "the same sweep every night: the timer starts it at 22:00 and it ends itself at 06:00\n"
  "[RUNNING ON ITS OWN]\n"
  "A sweep left to run as a systemd user service writes a service log to the journal instead of "
  "a line per tick: the start with the pest, the band and the output at its real rate; the first "
  "tone that cannot be played; the output lost and back; the window opened and closed; a summary "
  "of the ticks played, silent and in error once an hour; and the stop with its reason. Read it "
  "with\n.IP\n.B journalctl --user -u 'tessolon-sweep*'\n.PP\n"
  "The service does not restart when the pest is not in the table or its arguments are wrong "
  "(exit statuses 1 and 2). It runs in a sandbox: the system and the home folder read-only but "
  "for the pest table's folder, no network but the sound server's socket, no new privileges.\n.PP\n"
  "To sweep only at night, enable the timer for the pest:\n.IP\n"
  ".B systemctl --user enable --now tessolon-sweep-nightly@Mosquito.timer\n.PP\n"
  "It starts the sweep at 22:00; the sweep, run with\n.B --between 22:00-06:00 --until-close,\n"
  "ends itself at 06:00, and the service manager ends it should it not (RuntimeMaxSec=). "
  "A machine that was off at 22:00 starts the sweep when it comes back, if the window is still "
  "open. For another window, change the service's --between, the timer's OnCalendar= to the "
  "window's start and RuntimeMaxSec= to a little more than its length "
  "(systemctl --user edit --full).\n.PP\n"
  "The window is read by the local clock: 22:00-06:00 runs across midnight, and across changes of "
  "daylight saving it still opens at 22:00 and closes at 06:00 on the clock, so such a night is "
  "an hour shorter or longer. A time the clocks skip takes effect as they jump; a time they "
  "pass twice counts at its first pass. Without --until-close, a sweep stays silent outside its "
  "window and plays again when it opens.\n")
file(WRITE ${out_dir}/commands.h2m "${include_text}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 "--name=play tones that sweep through the band of a pest profile"
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
