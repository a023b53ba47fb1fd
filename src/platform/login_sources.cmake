# Launch at login.
