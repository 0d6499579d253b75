# Start-up: process start to the launcher's first paint, beside a bare window.
add_executable(startup_launcher_child app/startup_launcher_child.cpp)
target_link_libraries(startup_launcher_child PRIVATE shell)
add_executable(startup_bare_child app/startup_bare_child.cpp)
target_link_libraries(startup_bare_child PRIVATE Qt6::Widgets)
add_executable(bench_startup app/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE Qt6::Core)
add_dependencies(bench_startup startup_launcher_child startup_bare_child pad_db)
target_compile_definitions(bench_startup PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
