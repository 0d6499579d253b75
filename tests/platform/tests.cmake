velmora_add_test(platform tst_profile_file LIBS platform)
velmora_add_test(platform tst_single_instance LIBS platform)
velmora_add_test(platform tst_dialogs LIBS platform_ui)
velmora_add_test(platform tst_home_folder LIBS platform)
velmora_add_test(platform tst_autostart LIBS platform)
velmora_add_test(platform tst_whole_file LIBS platform)
velmora_add_test(platform tst_modal_scope LIBS platform_ui)
# On a private session bus with no secret store on it.
velmora_add_test(platform tst_secrets PRIVATE_BUS LIBS platform)
# Against a fake notification server on a bus of its own.
velmora_add_test(platform tst_desktop_notifier PRIVATE_BUS LIBS platform)
