velmora_add_test(contacts tst_contact_store LIBS contacts_core)
velmora_add_test(contacts tst_tab_states LIBS contacts_core)
velmora_add_test(contacts tst_pe_connect LIBS contacts_windows)
velmora_add_test(contacts tst_contact_tabs LIBS contacts_windows)
velmora_add_test(contacts tst_photo_file LIBS contacts_photo)
velmora_add_test(contacts tst_contacts_launcher LIBS shell)
velmora_add_test(contacts tst_contact_card LIBS contacts_card)
velmora_add_test(contacts tst_contact_card_export LIBS contacts_card)
velmora_add_test(contacts tst_contact_card_print LIBS contacts_windows)
# Printing through a private print server that the fixture starts and stops
# (scripts/print-server.sh); the lock keeps any other printing test apart.
velmora_add_test(contacts tst_contact_card_printer LIBS contacts_card)
set(VELMORA_PRINT_SERVER ${CMAKE_BINARY_DIR}/tests/print-server)
add_test(NAME print-server/start
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/print-server.sh start ${VELMORA_PRINT_SERVER})
add_test(NAME print-server/stop
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/print-server.sh stop ${VELMORA_PRINT_SERVER})
set_tests_properties(print-server/start PROPERTIES FIXTURES_SETUP print_server
  RESOURCE_LOCK print_server)
set_tests_properties(print-server/stop PROPERTIES FIXTURES_CLEANUP print_server
  RESOURCE_LOCK print_server)
set_tests_properties(contacts/tst_contact_card_printer PROPERTIES FIXTURES_REQUIRED print_server
  RESOURCE_LOCK print_server)
set_property(TEST contacts/tst_contact_card_printer APPEND PROPERTY ENVIRONMENT
  "CUPS_SERVER=${VELMORA_PRINT_SERVER}/cups.sock;VELMORA_PRINT_SPOOL=${VELMORA_PRINT_SERVER}/spool")
velmora_add_test(contacts tst_csv_text LIBS contacts_csv)
velmora_add_test(contacts tst_contact_import LIBS contacts_csv)
velmora_add_test(contacts tst_local_stamps LIBS contacts_core)
velmora_add_test(contacts tst_contact_transfer LIBS contacts_windows)
velmora_add_test(contacts tst_record_grids LIBS contacts_windows)
velmora_add_test(contacts tst_contacts_text_fit LIBS contacts_windows)
velmora_add_test(contacts tst_result_list LIBS contacts_core)
velmora_add_test(contacts tst_contact_result_list LIBS contacts_windows)
