velmora_add_test(lunar tst_lunar_day LIBS lunar_core)
velmora_add_test(lunar tst_solar_terms LIBS lunar_core)
velmora_add_test(lunar tst_lunar_windows LIBS diary_windows schedule_windows)
# The committed table of solar terms is what its generator makes.
add_test(NAME lunar/solar_term_table COMMAND lunar_solar_terms --check ${PROJECT_SOURCE_DIR}/lunar/core/SolarTermTable.inc)
