velmora_add_test(report tst_report_renderer LIBS report_core)

