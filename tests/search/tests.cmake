velmora_add_test(search tst_pinyin_reading LIBS search_core)
velmora_add_test(search tst_search_index LIBS search_core)
velmora_add_test(search tst_text_search LIBS search_core)

# The worker the fill test kills at random moments.
add_executable(index_fill_worker search/index_fill_worker.cpp)
target_link_libraries(index_fill_worker PRIVATE search_core)
set_target_properties(index_fill_worker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
velmora_add_test(search tst_index_fill LIBS search_windows SQLite::SQLite3)
target_compile_definitions(tst_index_fill PRIVATE VELMORA_FILL_WORKER="$<TARGET_FILE:index_fill_worker>")
add_dependencies(tst_index_fill index_fill_worker)
velmora_add_test(search tst_find_text LIBS search_windows)
velmora_add_test(search tst_find_text_openers LIBS diary_windows schedule_windows)
