velmora_add_test(platform tst_profile_file LIBS platform)
velmora_add_test(platform tst_single_instance LIBS platform)
velmora_add_test(platform tst_dialogs LIBS platform_ui)
velmora_add_test(platform tst_home_folder LIBS platform)
