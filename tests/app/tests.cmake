velmora_add_test(app tst_auto_hide LIBS shell)
velmora_add_test(app tst_launcher LIBS shell)
velmora_add_test(app tst_password_hash LIBS shell_core)
velmora_add_test(app tst_password_gate LIBS shell)
velmora_add_test(app tst_settings LIBS shell)
velmora_add_test(app tst_record_file LIBS shell_core)
velmora_add_test(app tst_record_backup LIBS shell)
velmora_add_test(app tst_shell_text_fit LIBS shell)

# Syncs at start and on the launcher's timer, against a real Radicale, on a
# private session bus with no secret store.
add_executable(tst_launcher_sync app/tst_launcher_sync.cpp)
target_link_libraries(tst_launcher_sync PRIVATE test_support shell dav_server)
set_target_properties(tst_launcher_sync PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_test(NAME app/tst_launcher_sync COMMAND dbus-run-session -- $<TARGET_FILE:tst_launcher_sync>)
set_tests_properties(app/tst_launcher_sync PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/tests/runtime;LANG=C.UTF-8" TIMEOUT 300)
velmora_add_test(app tst_launcher_reminders PRIVATE_BUS LIBS shell)
