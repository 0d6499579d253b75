#A real CardDAV / CalDAV server started by a test : link dav_server.
add_library(dav_server STATIC sync / DavServer.cpp sync
            / DavServer.h) target_include_directories(dav_server PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} / sync)
    target_link_libraries(dav_server PUBLIC sync_core Qt6::Network)

        velmora_add_test(sync tst_dav_xml LIBS sync_core) target_compile_definitions(
            tst_dav_xml PRIVATE DAV_CORPUS = "${PROJECT_SOURCE_DIR}/fuzz/corpus/dav_multistatus")
            velmora_add_test(sync tst_dav_client LIBS dav_server)

#Two stores kept in step through a real server.
                velmora_add_test(sync tst_sync_engine LIBS dav_server) target_sources(tst_sync_engine PRIVATE sync
                                                                                      / SyncSide.cpp sync / SyncSide.h)
                    set_tests_properties(sync / tst_sync_engine PROPERTIES TIMEOUT 600)
                        velmora_add_test(sync tst_dav_hostile LIBS sync_core)

#What a sync remembers : every write path marks its records, Quiet and rollbacks mark
#nothing; collections, tokens and items are kept whole or refused.
                            velmora_add_test(sync tst_sync_state LIBS sync_core contacts_csv schedule_core diary_core)
                                velmora_add_test(sync tst_sync_state_api LIBS sync_core)
                                    velmora_add_test(sync tst_sync_volume LIBS dav_server)
                                        target_sources(tst_sync_volume PRIVATE sync / SyncSide.cpp sync / SyncSide.h)
                                            set_tests_properties(sync
                                                                 / tst_sync_volume PROPERTIES TIMEOUT 900 LABELS slow)
