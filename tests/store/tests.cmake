velmora_add_test(store tst_field_codec LIBS store)
velmora_add_test(store tst_start_checks LIBS store SQLite::SQLite3)
velmora_add_test(store tst_time_stamp LIBS store)
velmora_add_test(store tst_store_error LIBS store)
velmora_add_test(store tst_keyed_rows LIBS store)

# The worker the schema test kills in the middle of an upgrade.
add_executable(schema_upgrade_worker store/schema_upgrade_worker.cpp)
target_link_libraries(schema_upgrade_worker PRIVATE store)
set_target_properties(schema_upgrade_worker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
velmora_add_test(store tst_schema_versions LIBS store SQLite::SQLite3)
target_compile_definitions(tst_schema_versions PRIVATE VELMORA_UPGRADE_WORKER="$<TARGET_FILE:schema_upgrade_worker>")
add_dependencies(tst_schema_versions schema_upgrade_worker)
