# Signs the Windows program FILE in place with Authenticode, replacing a signature
# it may have already: cmake -DOSSLSIGNCODE=... -DCERT=... -DKEY=... -DFILE=... -P sign.cmake
execute_process(COMMAND ${OSSLSIGNCODE} remove-signature -in ${FILE} -out ${FILE}.unsigned
                RESULT_VARIABLE unsigned OUTPUT_QUIET ERROR_QUIET)
set(input ${FILE})
if(unsigned EQUAL 0)
  set(input ${FILE}.unsigned)
endif()
file(REMOVE ${FILE}.signed)
execute_process(COMMAND ${OSSLSIGNCODE} sign -certs ${CERT} -key ${KEY} -h sha256 -n Nimbra
                        -in ${input} -out ${FILE}.signed
                RESULT_VARIABLE signed OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(REMOVE ${FILE}.unsigned)
if(NOT signed EQUAL 0)
  file(REMOVE ${FILE}.signed)
  message(FATAL_ERROR "Could not sign ${FILE}:\n${output}")
endif()
file(RENAME ${FILE}.signed ${FILE})
