# End-to-end tests: the real program on a private Xvfb, driven with xdotool, read through AT-SPI.
# Debian's python3 carries pyatspi; a python3 from elsewhere on PATH would not.
set(ZL_E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
foreach(group reading startup exit hardening heard)
    add_test(NAME e2e_${group}
             COMMAND /usr/bin/python3 ${ZL_E2E_DIR}/run.py --binary $<TARGET_FILE:zenor-lyrandel>
                     --artifacts ${CMAKE_BINARY_DIR}/e2e-artifacts test_${group})
    # Copies of one user refuse each other whatever their folders: the groups take turns.
    set_tests_properties(e2e_${group} PROPERTIES LABELS "e2e" TIMEOUT 300 RESOURCE_LOCK zenor-lyrandel-user)
endforeach()
