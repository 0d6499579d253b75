# A sync against a local Radicale, started by the benchmark.
add_executable(bench_sync sync/bench_sync.cpp ${PROJECT_SOURCE_DIR}/tests/sync/DavServer.cpp)
target_include_directories(bench_sync PRIVATE ${PROJECT_SOURCE_DIR}/tests/sync ${PROJECT_SOURCE_DIR}/bench/interchange)
target_link_libraries(bench_sync PRIVATE sync_core Qt6::Network)
target_compile_definitions(bench_sync PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_sync pad_db)
