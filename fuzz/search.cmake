velmora_add_fuzzer(fuzz_text_search LIBS search_core SQLite::SQLite3)
target_compile_definitions(fuzz_text_search PRIVATE VELMORA_SCHEMA="${PROJECT_SOURCE_DIR}/store/schema.sql")
velmora_add_fuzzer(fuzz_pinyin_match LIBS search_core)
