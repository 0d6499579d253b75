# Search: the full-text search of 100,000 notes, building their index, and a
# pinyin reading lookup over 100,000 contacts.
add_executable(bench_search search/bench_search.cpp)
target_link_libraries(bench_search PRIVATE search_core)
target_compile_definitions(bench_search PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_search pad_db)
