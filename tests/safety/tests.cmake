# The save worker the crash test kills; it runs the subsystems' own save paths.
add_executable(safety_worker safety/safety_worker.cpp safety/SavePlan.h safety/SaveRunner.h)
target_link_libraries(safety_worker PRIVATE diary_core schedule_core contacts_csv shell_core)
set_target_properties(safety_worker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

velmora_add_test(safety tst_crash_safety LIBS schedule_core contacts_csv)
target_compile_definitions(tst_crash_safety PRIVATE VELMORA_SAFETY_WORKER="$<TARGET_FILE:safety_worker>")
add_dependencies(tst_crash_safety safety_worker)

velmora_add_test(safety tst_hostile_input LIBS diary_core schedule_core contacts_core shell_core)

velmora_add_test(safety tst_store_faults LIBS diary_core schedule_core contacts_csv shell_core)
target_compile_definitions(tst_store_faults PRIVATE VELMORA_SAFETY_WORKER="$<TARGET_FILE:safety_worker>")
add_dependencies(tst_store_faults safety_worker)
