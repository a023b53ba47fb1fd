# Tests of launch at login.
