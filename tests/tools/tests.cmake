velmora_add_test(tools tst_number_text LIBS tools_core)
velmora_add_test(tools tst_calculator LIBS tools_core)
velmora_add_test(tools tst_unit_table LIBS tools_core)
velmora_add_test(tools tst_calculator_window LIBS tools_windows)
