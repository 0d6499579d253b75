# Schedule: day and month lists, reminder reload and tick over ten years of jobs.
if(benchmark_FOUND)
  add_executable(bench_schedule schedule/bench_schedule.cpp)
  target_link_libraries(bench_schedule PRIVATE schedule_windows benchmark::benchmark)
  add_dependencies(bench_schedule pad_db)
  target_compile_definitions(bench_schedule PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
endif()
