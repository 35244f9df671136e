# Assembles the release folder and its zip (cmake -P):
#   EXE       the built Laurelight.exe
#   CHECK_EXE the built laurelight-check.exe (optional)
#   DEMO_BIN  the folder with adv.json, adv.schema.json, adv_back.png and adv_sound.wav
#   OUT       the parent folder; Laurelight/ and Laurelight.zip are made inside it
foreach(var EXE DEMO_BIN OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "make_release.cmake needs -D${var}=...")
    endif()
endforeach()

set(folder ${OUT}/Laurelight)
file(REMOVE_RECURSE ${folder} ${OUT}/Laurelight.zip)
file(MAKE_DIRECTORY ${folder}/bin)
file(COPY ${EXE} DESTINATION ${folder})
if(DEFINED CHECK_EXE)
    file(COPY ${CHECK_EXE} DESTINATION ${folder})
endif()
foreach(name adv.json adv.schema.json adv_back.png adv_sound.wav)
    if(NOT EXISTS ${DEMO_BIN}/${name})
        message(FATAL_ERROR "missing ${DEMO_BIN}/${name}")
    endif()
    file(COPY ${DEMO_BIN}/${name} DESTINATION ${folder}/bin)
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf Laurelight.zip --format=zip Laurelight
                WORKING_DIRECTORY ${OUT} RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "could not zip ${folder}")
endif()
message(STATUS "Release: ${folder} and ${OUT}/Laurelight.zip")
