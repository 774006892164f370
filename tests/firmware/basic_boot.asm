* A BASIC-mode boot sector: the boot loads it to 0100 and jumps to it. It
* prints through the boot image and then starts the BASIC.
        ORG $0100
        LDX #msg
        JSR $FE0B           ; print the string at X
        JMP [$FBFE]         ; the BASIC image's cold start
msg     FCB "Boot sector says hello",13,0
        END
