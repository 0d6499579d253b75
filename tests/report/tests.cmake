velmora_add_test(report tst_report_renderer LIBS report_core)

velmora_add_test(report tst_print_view LIBS report_windows)
velmora_add_test(report tst_wmf_writer LIBS report_core)
# The preview's tests run where no printer exists: a print server address
# that nothing answers.
set_property(TEST report/tst_print_view APPEND PROPERTY
  ENVIRONMENT "CUPS_SERVER=${CMAKE_BINARY_DIR}/tests/no-print-server.sock")
