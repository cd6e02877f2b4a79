# Runs one regression case (README.md): a scratch installation that holds
# only the case's books, the case's settings, the command, and its output
# compared with the expected files.
#   cmake -DCASE=folder -DWORK=scratch -DHOST=QT10.EXE -DCOMPONENT=QT10ToRX16_G
#         -DDATA=data/ -P RunCase.cmake

# Runs a program in the scratch folder; its standard output in the variable
# named by the first argument. A failure ends the case.
function(run out_var)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${rc}\n${out}${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

# The expected file against the one the run gave; the difference printed
# as it is (a message would reflow it) when they are not the same.
function(compare expected actual)
  execute_process(COMMAND diff -u "${expected}" "${actual}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${actual} differs from ${expected} (above)")
  endif()
endfunction()

foreach(file command books)
  if(NOT EXISTS "${CASE}/${file}")
    message(FATAL_ERROR "${CASE}: a case needs ${file}")
  endif()
endforeach()
if(NOT EXISTS "${CASE}/expected.json" AND NOT EXISTS "${CASE}/expected.xml")
  message(FATAL_ERROR "${CASE}: a case needs expected.json or expected.xml")
endif()

file(REMOVE_RECURSE "${WORK}")
foreach(dir run home config documents tmp out data/books)
  file(MAKE_DIRECTORY "${WORK}/${dir}")
endforeach()
file(CHMOD "${WORK}/run" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# The installation files of data/, but no sample books.
file(COPY "${DATA}/SUPPORT.INF" "${DATA}/MirabellDef.ini" "${DATA}/QT10ToRX16_G_common_init.dat"
     "${DATA}/KP10ToRX16_G_common_init.dat" "${DATA}/standard-accounts.csv"
     DESTINATION "${WORK}/data")
file(TOUCH "${WORK}/data/books/regular.list" "${WORK}/data/books/cooperative.list")
set(inst "${WORK}/installation")
run(ignored "${HOST}" init "${inst}" --data "${WORK}/data" --component "${COMPONENT}")
run(ignored "${HOST}" add-books "${inst}" "${CASE}/books")
# The data ID of the one data set: the second field of the list's line.
run(listed "${HOST}" list "${inst}")
string(REGEX MATCH "^[0-9]+\t([^\t]+)\t" listed "${listed}")
set(data_id "${CMAKE_MATCH_1}")
if(EXISTS "${CASE}/settings.env")
  file(COPY_FILE "${CASE}/settings.env" "${inst}/books/${data_id}/QT10ToRX16_G.env")
endif()

file(READ "${CASE}/command" command)
string(STRIP "${command}" command)
string(REPLACE "{DATA_ID}" "${data_id}" command "${command}")
string(REPLACE "{OUT}" "${WORK}/out" command "${command}")
separate_arguments(command UNIX_COMMAND "${command}")
set(expected_exit 0)
if(EXISTS "${CASE}/exit-code")
  file(STRINGS "${CASE}/exit-code" expected_exit LIMIT_COUNT 1)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
          --unset=QT_QPA_PLATFORM --unset=QT10_PROGRAM_DIR --unset=RX16_UI_SCRIPT
          XDG_RUNTIME_DIR=${WORK}/run HOME=${WORK}/home XDG_CONFIG_HOME=${WORK}/config
          XDG_DOCUMENTS_DIR=${WORK}/documents TMPDIR=${WORK}/tmp RX16_UI=headless
          RX16_UI_TRANSCRIPT=${WORK}/transcript.txt
          "${inst}/QT10ToRX16_G" ${command}
  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc
  OUTPUT_FILE "${WORK}/stdout" ERROR_FILE "${WORK}/stderr")
if(NOT rc STREQUAL expected_exit)
  file(READ "${WORK}/stderr" err)
  message(FATAL_ERROR "QT10ToRX16_G ${command}: exit ${rc}, expected ${expected_exit}\n${err}")
endif()

if(EXISTS "${CASE}/expected.json")
  compare("${CASE}/expected.json" "${WORK}/stdout")
endif()
if(EXISTS "${CASE}/expected.xml")
  file(GLOB written "${WORK}/out/*.xml")
  list(LENGTH written count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one XML file in ${WORK}/out, found ${count}: ${written}")
  endif()
  # The file is Shift_JIS (CP932); the expected file is the same text in UTF-8.
  run(ignored iconv -f CP932 -t UTF-8 -o "${WORK}/actual.xml" "${written}")
  compare("${CASE}/expected.xml" "${WORK}/actual.xml")
endif()
