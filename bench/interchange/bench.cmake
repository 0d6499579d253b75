# vCard export and import at the sizes an address book reaches.
add_executable(bench_vcard interchange/bench_vcard.cpp)
target_link_libraries(bench_vcard PRIVATE interchange_core)
target_compile_definitions(bench_vcard PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_vcard pad_db)

# iCalendar export and import of a year of jobs.
add_executable(bench_ical interchange/bench_ical.cpp)
target_link_libraries(bench_ical PRIVATE interchange_core)
target_compile_definitions(bench_ical PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_ical pad_db)
