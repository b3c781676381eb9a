# One fixed run of a fuzz target for CTest: seed 1, RUNS inputs, starting from the committed
# corpus. New inputs and crash reproducers go to a fresh WORK directory, never the source tree.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
  COMMAND ${FUZZER} -seed=1 -runs=${RUNS} -max_len=${MAX_LENGTH} -timeout=10
          -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus ${CORPUS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); reproducers in ${WORK}/artifacts")
endif()
