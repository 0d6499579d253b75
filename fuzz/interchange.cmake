velmora_add_fuzzer(fuzz_vcard_reader LIBS interchange_core)
velmora_add_fuzzer(fuzz_ical_import LIBS interchange_core SQLite::SQLite3)
target_compile_definitions(fuzz_ical_import PRIVATE VELMORA_SCHEMA="${PROJECT_SOURCE_DIR}/store/schema.sql")
