velmora_add_test(report tst_report_renderer LIBS report_core)

velmora_add_test(report tst_print_view LIBS report_windows)
velmora_add_test(report tst_wmf_writer LIBS report_core)
