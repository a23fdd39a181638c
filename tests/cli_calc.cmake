# Runs "tavelon calc" as a user would and compares what it prints.
# Called by CTest with -DTAVELON=<program> -DDATA=<tests/data>.
if(NOT TAVELON OR NOT DATA)
  message(FATAL_ERROR "TAVELON and DATA must be given")
endif()

set(failures 0)

# check(NAME RC <code> [INPUT <file>] [OUT_FILE <file> | OUT <text>] [ERR <regex>] ARGS ...)
function(check name)
  cmake_parse_arguments(C "" "RC;INPUT;OUT_FILE;OUT;ERR" "ARGS" ${ARGN})
  set(extra)
  if(C_INPUT)
    set(extra INPUT_FILE ${C_INPUT})
  endif()
  execute_process(COMMAND ${TAVELON} calc ${C_ARGS} ${extra}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(bad "")
  if(NOT rc STREQUAL C_RC)
    string(APPEND bad " exit ${rc}, expected ${C_RC};")
  endif()
  if(C_OUT_FILE)
    file(READ ${C_OUT_FILE} C_OUT)
  endif()
  if(DEFINED C_OUT AND NOT out STREQUAL C_OUT)
    string(APPEND bad " output differs:\n${out}\nexpected:\n${C_OUT};")
  endif()
  if(C_ERR)
    if(NOT err MATCHES "${C_ERR}")
      string(APPEND bad " standard error '${err}' does not match '${C_ERR}';")
    endif()
    # One line only.
    string(REGEX MATCHALL "\n" lines "${err}")
    list(LENGTH lines count)
    if(NOT count EQUAL 1)
      string(APPEND bad " standard error has ${count} lines;")
    endif()
  elseif(NOT err STREQUAL "")
    string(APPEND bad " unexpected standard error '${err}';")
  endif()
  if(bad)
    message(SEND_ERROR "${name}:${bad}")
  endif()
endfunction()

set(results_utf8 "SD=32.8\nSD2=55.12\nDATACOUNT=49\nHENSA=0.83\nHOSR=12.9\nHODATACOUNT=5\nHOHENSA=0.84\nGP=10\n")

# UTF-8 with byte-order mark, CR LF, a quoted position holding a comma, one excluded reading.
check(utf8_grid RC 0 OUT_FILE ${DATA}/calc_utf8.expected ARGS --grid ${DATA}/calc_utf8.csv)
# The same from standard input, without the grid.
check(utf8_stdin RC 0 INPUT ${DATA}/calc_utf8.csv OUT "${results_utf8}" ARGS -)
# Shift-JIS; groups given as readings, as largest and smallest, and as a typed range; G = 8.
check(sjis_grid RC 0 OUT_FILE ${DATA}/calc_sjis.expected
      ARGS --group-size 8 --grid ${DATA}/calc_sjis.csv)
# No readings at all: refused, as the window and "tavelon import" refuse it.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_empty.csv "")
check(empty RC 2 OUT "" ERR "測定値がありません"
      ARGS ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_empty.csv)
# A group size without range factor: results without σ, and a note.
check(g_outside RC 0
      OUT "SD=8.5\nSD2=21.25\nDATACOUNT=4\nHENSA=1.03\nHOSR=2.5\nHODATACOUNT=2\nHOHENSA=\nGP=5\n"
      ERR "Ｇは 6～10 の整数で入力してください" ARGS --group-size 5 ${DATA}/calc_bad_g.csv)
# A group size that is no whole number: the window's message, nothing on standard output.
check(g_not_whole RC 2 OUT "" ERR "'7.5' は整数ではありません"
      ARGS --group-size 7.5 ${DATA}/calc_bad_g.csv)
# Readings rounded on their typed digits, half away from zero (1.45 -> 1.5, 0.35 -> 0.4,
# 1.15 -> 1.2), full-width digits read as typed in the window.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_rounding.csv
     "No.1,1.45,0.35,-0.15,2.675,0.449,-0.04\nNo.2,０．３５,1.15\n")
check(decimal_rounding RC 0
      OUT "SD=6.4\nSD2=11.50\nDATACOUNT=8\nHENSA=0.95\nHOSR=3.7\nHODATACOUNT=2\nHOHENSA=0.60\nGP=10\nNo.1,1.5,0.4,-0.2,2.7,0.4,0.0,,,,,4.8,9.90,2.7,-0.2,2.9\nNo.2,0.4,1.2,,,,,,,,,1.6,1.60,1.2,0.4,0.8\n"
      ARGS --grid ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_rounding.csv)
# Input errors.
check(too_many_fields RC 2 OUT "" ERR "2 行目の項目数が 16 を超えています"
      ARGS ${DATA}/calc_too_many_fields.csv)
check(missing_file RC 2 OUT "" ERR "no-such-file.csv" ARGS ${DATA}/no-such-file.csv)
set(many "")
foreach(i RANGE 1 501)
  string(APPEND many "${i},1\n")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_501.csv "${many}")
check(too_many_records RC 2 OUT "" ERR "500" ARGS ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_501.csv)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_badnumber.csv "A,1.5\nB,1.5mm\n")
check(bad_number RC 2 OUT "" ERR "2 行目 2 列目 '1.5mm'"
      ARGS ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_badnumber.csv)
check(no_file RC 2 OUT "" ERR "." ARGS --grid)
# The user's text comes out as it is: a "%1" in the file name is not a place for the line number.
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/x%1.csv" "A,1.5\n\"B,1.5\n")
check(percent_name RC 2 OUT "" ERR "x%1[.]csv: 2 行目の引用符が閉じていません"
      ARGS "${CMAKE_CURRENT_BINARY_DIR}/x%1.csv")
# A position with a character Shift-JIS cannot hold is reported as such, not as too long.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_hangul.csv "한,1.5\n")
check(unencodable RC 2 OUT "" ERR "1 行目 1 列目 '한' はShift-JIS で表せない文字 '한'"
      ARGS ${CMAKE_CURRENT_BINARY_DIR}/cli_calc_hangul.csv)
