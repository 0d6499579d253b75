# A timing harness over a diary of 100,000 notes: opening the browser, each
# navigation step, deleting, and the memory browsing takes.
add_executable(bench_diary diary/bench_diary.cpp)
target_link_libraries(bench_diary PRIVATE diary_windows)
target_compile_definitions(bench_diary PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_diary pad_db)
