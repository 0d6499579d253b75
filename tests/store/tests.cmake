velmora_add_test(store tst_field_codec LIBS store)
velmora_add_test(store tst_start_checks LIBS store SQLite::SQLite3)
velmora_add_test(store tst_time_stamp LIBS store)
velmora_add_test(store tst_store_error LIBS store)
