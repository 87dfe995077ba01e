<Quillnote FormatVersion="1.1">
	<Chars Value="Notes for the week"/><Br/>
	<Star/>
	<Chars Value=" Star: read https://example.org/reading-list before Friday"/><Br/>
	<Information/>
	<Chars Value=" Information:&#9;the shop opens at 9&#9;(see ftp://files.example.org/hours.txt)"/><Br/>
	<Question/>
	<Chars Value=" Question: who takes the car?"/><Br/>
	<Important/>
	<Chars Value=" Important: pay the rent"/><Br/>
	<Stop/>
	<Chars Value=" Stop: the old printer is broken"/><Br/>
	<Ready/>
	<Chars Value=" Ready: tickets booked"/><Br/>
	<Chars Value="A long paragraph that wraps: Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat. Duis aute irure dolor in reprehenderit in voluptate velit esse cillum dolore eu fugiat nulla pariatur, see http://example.com/a/very/long/path?with=query&amp;and=more for details."/>
</Quillnote>
