* A two-sector DOS-mode loader: the boot loads sectors 1 and 2 to 0300-04FF
* (with the RAM bank selected at 8000-FBFF) and jumps to 0300. Sector 1
* prints and jumps into sector 2, which prints, selects the BASIC image again
* and starts the BASIC.
        ORG $0300
        LDX #msg1
        JSR $FE0B
        JMP part2
msg1    FCB "DOS loader: sector 1",13,0

        ORG $0400
part2   LDX #msg2
        JSR $FE0B
        LDA $FD0F           ; reading FD0F selects the BASIC image
        JMP [$FBFE]
msg2    FCB "DOS loader: sector 2",13,0
        END
